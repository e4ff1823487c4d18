#pragma once

#include <QString>
#include <QWidget>

class TdmORVS;

// A page hosted in the main window's panel (Home, Clock Operation, Member, Races, Setup).
// The main window calls FormShow() after docking and FormClose() before it frees the page.
class TPage : public QWidget
{
    Q_OBJECT
public:
    TPage(const QString &formName, TdmORVS &dm, QWidget *parent = nullptr);
    ~TPage() override;

    QString formName() const { return formName_; }
    TdmORVS &dm() const { return dm_; }

    virtual void FormShow() {}
    virtual void FormClose() {}
    // Asked before the page is left (another page, the program's close): false keeps it shown.
    // A page with a form holding unsaved changes asks the user.
    virtual bool canLeave() { return true; }

private:
    QString formName_;
    TdmORVS &dm_;
};
