#pragma once

#include <QString>
#include <QVariant>

// Read-only access to ORVS.ini, section "Parameter", in the data folder.
class OrvsIni
{
public:
    explicit OrvsIni(const QString &dataFolder);
    QString value(const QString &key, const QString &fallback = {}) const;
    bool contains(const QString &key) const;
    QString path() const { return path_; }

private:
    QString path_;
};
