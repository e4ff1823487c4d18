#pragma once

class TdmORVS;
class TWinApiV8;
class OperationSink;

// Ties the connected antenna to the club's id and writes the club's stored record into it.
class ClubDataDownload
{
public:
    ClubDataDownload(TdmORVS &dm, TWinApiV8 &driver, OperationSink &sink);
    // True when the club record was written.
    bool run();

private:
    TdmORVS &dm_;
    TWinApiV8 &driver_;
    OperationSink &sink_;
};
