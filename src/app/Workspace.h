#pragma once

#include <QMdiArea>

// The main window's area of document windows. While it holds none it shows a
// short hint on how to begin, so a first start is not a mute grey area.
class Workspace : public QMdiArea
{
    Q_OBJECT
public:
    explicit Workspace(QWidget *parent = nullptr);

    static QString hintText();

protected:
    void paintEvent(QPaintEvent *e) override;
};
