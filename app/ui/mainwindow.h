#pragma once

#include <QMainWindow>
#include <functional>

class QLabel;
class QToolBar;
class QToolButton;
class TPage;
class TdmORVS;

// How the main window creates the pages of its tool bar (registered by the program at start,
// so this library does not depend on the feature pages).
namespace Pages {
using Factory = std::function<TPage *(TdmORVS &dm, QWidget *parent)>;
// button 1 Home … 5 Setup
void setFactory(int button, Factory f);
Factory factory(int button);
// Shows the setup page modally for the first run; returns its ClubUpdateStat.
using FirstRun = std::function<int(TdmORVS &dm, QWidget *parent)>;
void setFirstRun(FirstRun f);
FirstRun firstRun();
} // namespace Pages

class TfrmMenu_V8_EU_10_TC : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMenu_V8_EU_10_TC(TdmORVS &dm, QWidget *parent = nullptr);
    ~TfrmMenu_V8_EU_10_TC() override;

    bool clubReady() const { return clubReady_; }
    TPage *currentForm() const { return currentForm_; }
    // Opens the page of tool button 1 to 5, closing and freeing the one shown.
    void openPage(int button);
    void ClosePage();
    void Caption_Language_Update();
    QToolBar *toolBar() const { return toolBar_; }
    QWidget *pnlMain() const { return pnlMain_; }
    // The manual at the section of the page shown (F1, "Help").
    void showHelp();

    // The tool button's text of a caption "&H Home": "&Home" (H underlined, Alt+H).
    static QString buttonText(const QString &caption);

    // How long the backup notice stays (tests shorten it).
    static void setBackupNoticeMs(int ms);

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void FormShow();
    void DockPage();
    void takeBackup();
    void showButtonTexts();

    TdmORVS &dm_;
    bool clubReady_ = true;
    bool shownOnce_ = false;
    bool closing_ = false;
    TPage *currentForm_ = nullptr;
    QToolBar *toolBar_ = nullptr;
    QWidget *pnlMain_ = nullptr;
    QWidget *picture_ = nullptr;
    class QScrollArea *pageArea_ = nullptr;
};
