#pragma once

#include <QFrame>
#include <QImage>

#include <optional>

// Covers its owner with a still picture of the owner (taken by UpdateScreen), so the live
// content cannot be reached while the picture shows. The owner is also its parent; the panel
// follows the owner's size.
class TBRBackgroundPanel : public QFrame {
    Q_OBJECT
public:
    explicit TBRBackgroundPanel(QWidget *owner);

    // Captures the owner's picture, adjusts brightness and contrast (percentages; 0 leaves the
    // picture in the capture's own format) and covers the owner with it.
    void UpdateScreen(int Brilho, int Contraste);
    // The captured picture; empty before the first UpdateScreen.
    const std::optional<QImage> &bitmap() const { return FBMP; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *FOwner;
    std::optional<QImage> FBMP;
};
