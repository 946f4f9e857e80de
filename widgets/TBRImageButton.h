#pragma once

#include "widgets/ImageButtonLayout.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

class ImageList;

// A light button that draws one picture of an image list with an optional caption, and swaps
// the picture while the pointer is over it. It paints no background: its parent shows through.
class TBRImageButton : public QWidget {
    Q_OBJECT
public:
    explicit TBRImageButton(QWidget *parent = nullptr);

    QString Caption() const { return FCaption; }
    void setCaption(const QString &caption);
    const ImageList *ImageListRef() const { return FImageList; }
    void setImageList(const ImageList *list);
    int ImageNormal() const { return FImageNormal; }
    void setImageNormal(int index);
    int ImageOver() const { return FImageOver; }
    void setImageOver(int index);
    int ImageDisable() const { return FImageDisable; }
    void setImageDisable(int index);
    QFont Font() const { return FFont; }
    void setFont(const QFont &font);
    QColor FontColor() const { return FFontColor; }
    void setFontColor(const QColor &color);
    TLayout TextAlign() const { return FTextAlign; }
    void setTextAlign(TLayout align);
    bool ShowCaption() const { return FShowCaption; }
    void setShowCaption(bool show);
    // 0 normal, 1 pointer over the button.
    int State() const { return FState; }

    // The picture index that painting would draw now, or -1 when nothing is drawn.
    int imagemAtual() const;

signals:
    void clicked();
    void mouseEnter();
    void mouseLeave();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    virtual void Click();

private:
    const ImageList *FImageList = nullptr;
    int FImageNormal = -1;
    int FState = 0;
    int FImageOver = -1;
    QFont FFont;
    QColor FFontColor = Qt::black;
    QString FCaption;
    TLayout FTextAlign = anBottom;
    bool FShowCaption = true;
    int FImageDisable = -1;
    bool FPressed = false;
};
