#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

// The program's manual, converted from docs/manual at build time and kept in the resources.
class THelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit THelpWindow(QWidget *parent = nullptr);

    // The manual section that describes a page (by its form name); the contents for any other.
    static QString sectionFor(const QString &formName);
    // Shows the one help window of the program at a section, raising it when it is open already.
    static THelpWindow *showSection(const QString &section, QWidget *near = nullptr);

    void openSection(const QString &section);
    QTextBrowser *browser() const { return txtHelp_; }

private:
    QTextBrowser *txtHelp_;
};

// The About box: version, licence and the libraries the program is built on.
namespace AboutBox {
QString text();
void show(QWidget *parent);
} // namespace AboutBox
