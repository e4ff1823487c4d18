#pragma once

#include <QWidget>

// The picture in the empty main panel and on the home page: a drawn emblem, no image files.
class TPicturePanel : public QWidget
{
    Q_OBJECT
public:
    explicit TPicturePanel(QWidget *parent = nullptr, bool compact = false);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    bool compact_;
};
