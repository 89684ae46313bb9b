#pragma once

#include <QBrush>
#include <QColor>
#include <QPixmap>
#include <QPushButton>
#include <QSize>

// Flat button painted entirely in code: background, icon, text, an indicator
// line and an indicator triangle, each with its own colour per state (normal,
// hovered, checked, disabled). Used for the navigation bar, the menu column and
// most command buttons.
//
// The Qt property names equal the member names; in .ui files they are set with
// stdset="0" so that uic goes through setProperty() and thus the setters.
class NavButton : public QPushButton
{
    Q_OBJECT

    Q_PROPERTY(int m_paddingLeft READ getPaddingLeft WRITE setPaddingLeft)
    Q_PROPERTY(int m_paddingRight READ getPaddingRight WRITE setPaddingRight)
    Q_PROPERTY(int m_paddingTop READ getPaddingTop WRITE setPaddingTop)
    Q_PROPERTY(int m_paddingBottom READ getPaddingBottom WRITE setPaddingBottom)
    Q_PROPERTY(TextAlign m_textAlign READ getTextAlign WRITE setTextAlign)

    Q_PROPERTY(bool m_showTriangle READ getShowTriangle WRITE setShowTriangle)
    Q_PROPERTY(int m_triangleLen READ getTriangleLen WRITE setTriangleLen)
    Q_PROPERTY(
        TrianglePosition m_trianglePosition READ getTrianglePosition WRITE setTrianglePosition)
    Q_PROPERTY(QColor m_triangleColor READ getTriangleColor WRITE setTriangleColor)

    Q_PROPERTY(bool m_showIcon READ getShowIcon WRITE setShowIcon)
    Q_PROPERTY(int m_iconSpace READ getIconSpace WRITE setIconSpace)
    Q_PROPERTY(QSize m_iconSize READ getIconSize WRITE setIconSize)
    Q_PROPERTY(QPixmap m_iconNormal READ getIconNormal WRITE setIconNormal)
    Q_PROPERTY(QPixmap m_iconHover READ getIconHover WRITE setIconHover)
    Q_PROPERTY(QPixmap m_iconCheck READ getIconCheck WRITE setIconCheck)

    Q_PROPERTY(bool m_showLine READ getShowLine WRITE setShowLine)
    Q_PROPERTY(int m_lineSpace READ getLineSpace WRITE setLineSpace)
    Q_PROPERTY(int m_lineWidth READ getLineWidth WRITE setLineWidth)
    Q_PROPERTY(LinePosition m_linePosition READ getLinePosition WRITE setLinePosition)
    Q_PROPERTY(QColor m_lineColor READ getLineColor WRITE setLineColor)

    Q_PROPERTY(QColor m_normalBgColor READ getNormalBgColor WRITE setNormalBgColor)
    Q_PROPERTY(QColor m_hoverBgColor READ getHoverBgColor WRITE setHoverBgColor)
    Q_PROPERTY(QColor m_checkBgColor READ getCheckBgColor WRITE setCheckBgColor)
    Q_PROPERTY(QColor m_normalTextColor READ getNormalTextColor WRITE setNormalTextColor)
    Q_PROPERTY(QColor m_hoverTextColor READ getHoverTextColor WRITE setHoverTextColor)
    Q_PROPERTY(QColor m_checkTextColor READ getCheckTextColor WRITE setCheckTextColor)

    Q_PROPERTY(QBrush m_normalBgBrush READ getNormalBgBrush WRITE setNormalBgBrush)
    Q_PROPERTY(QBrush m_hoverBgBrush READ getHoverBgBrush WRITE setHoverBgBrush)
    Q_PROPERTY(QBrush m_checkBgBrush READ getCheckBgBrush WRITE setCheckBgBrush)

public:
    // 1, 2, 4, 32 and 64 are Qt::AlignLeft, AlignRight, AlignHCenter, AlignTop
    // and AlignBottom, so they are handed to drawText as they are; 5 to 12
    // all centre the text in the whole button.
    enum TextAlign
    {
        TextAlign_Left = 0x0001,
        TextAlign_Right = 0x0002,
        TextAlign_Top = 0x0020,
        TextAlign_Bottom = 0x0040,
        TextAlign_Center = 0x0004,
        TextAlign_Center_Left = 5,
        TextAlign_Center_right = 6,
        TextAlign_Center_up = 7,
        TextAlign_Center_down = 8,
        TextAlign_Center_Left_up = 9,
        TextAlign_Center_Left_down = 10,
        TextAlign_Center_right_up = 11,
        TextAlign_Center_right_down = 12
    };
    Q_ENUM(TextAlign)

    enum TrianglePosition
    {
        TrianglePosition_Left = 0,
        TrianglePosition_Right = 1,
        TrianglePosition_Top = 2,
        TrianglePosition_Bottom = 3
    };
    Q_ENUM(TrianglePosition)

    enum IconPosition
    {
        IconPosition_Left = 0,
        IconPosition_Right = 1,
        IconPosition_Top = 2,
        IconPosition_Bottom = 3,
        IconPosition_mid = 4
    };
    Q_ENUM(IconPosition)

    enum LinePosition
    {
        LinePosition_Left = 0,
        LinePosition_Right = 1,
        LinePosition_Top = 2,
        LinePosition_Bottom = 3
    };
    Q_ENUM(LinePosition)

    explicit NavButton(QWidget *parent = nullptr);

    int getPaddingLeft() const { return m_paddingLeft; }
    int getPaddingRight() const { return m_paddingRight; }
    int getPaddingTop() const { return m_paddingTop; }
    int getPaddingBottom() const { return m_paddingBottom; }
    TextAlign getTextAlign() const { return m_textAlign; }
    IconPosition getIconAlign() const { return m_iconPosition; }

    bool getShowTriangle() const { return m_showTriangle; }
    int getTriangleLen() const { return m_triangleLen; }
    TrianglePosition getTrianglePosition() const { return m_trianglePosition; }
    QColor getTriangleColor() const { return m_triangleColor; }

    bool getShowIcon() const { return m_showIcon; }
    int getIconSpace() const { return m_iconSpace; }
    QSize getIconSize() const { return m_iconSize; }
    QPixmap getIconNormal() const { return m_iconNormal; }
    QPixmap getIconHover() const { return m_iconHover; }
    QPixmap getIconCheck() const { return m_iconCheck; }

    bool getShowLine() const { return m_showLine; }
    int getLineSpace() const { return m_lineSpace; }
    int getLineWidth() const { return m_lineWidth; }
    LinePosition getLinePosition() const { return m_linePosition; }
    QColor getLineColor() const { return m_lineColor; }

    QColor getNormalBgColor() const { return m_normalBgColor; }
    QColor getHoverBgColor() const { return m_hoverBgColor; }
    QColor getCheckBgColor() const { return m_checkBgColor; }
    QColor getNormalTextColor() const { return m_normalTextColor; }
    QColor getHoverTextColor() const { return m_hoverTextColor; }
    QColor getCheckTextColor() const { return m_checkTextColor; }

    QBrush getNormalBgBrush() const { return m_normalBgBrush; }
    QBrush getHoverBgBrush() const { return m_hoverBgBrush; }
    QBrush getCheckBgBrush() const { return m_checkBgBrush; }

    bool getHover() const { return m_hover; }
    bool getAutoFontSize() const { return m_autoFontSize; }
    bool getRoundCorner() const { return m_roundCorner; }
    int getCornerRadius() const { return m_cornerRadius; }

    // Font pixel size follows the button's size: min((h / 6) * 5, w / 6).
    void setAutoFontSize(bool on);
    // Rounded background with both radii m_cornerRadius, relative to the size.
    void setRoundCorner(bool on);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    // Sets the hover flag directly (always repaints, emits nothing).
    void sethover(bool status);

    void setPaddingLeft(int paddingLeft);
    void setPaddingRight(int paddingRight);
    void setPaddingTop(int paddingTop);
    void setPaddingBottom(int paddingBottom);
    void setPadding(int padding);
    void setPadding(int paddingLeft, int paddingRight, int paddingTop, int paddingBottom);

    void setTextAlign(NavButton::TextAlign textAlign);
    void setIconAlign(NavButton::IconPosition iconPosition);

    void setShowTriangle(bool showTriangle);
    void setTriangleLen(int triangleLen);
    void setTrianglePosition(NavButton::TrianglePosition trianglePosition);
    void setTriangleColor(const QColor &triangleColor);

    void setShowIcon(bool showIcon);
    void setIconSpace(int iconSpace);
    // Size the icon is drawn at. Also becomes the button's own icon size, so
    // the pixmaps taken from its QIcon are not scaled up from a smaller one.
    void setIconSize(const QSize &iconSize);
    void setIconNormal(const QPixmap &iconNormal);
    void setIconHover(const QPixmap &iconHover);
    void setIconCheck(const QPixmap &iconCheck);

    void setShowLine(bool showLine);
    void setLineSpace(int lineSpace);
    void setLineWidth(int lineWidth);
    void setLinePosition(NavButton::LinePosition linePosition);
    void setLineColor(const QColor &lineColor);

    void setNormalBgColor(const QColor &normalBgColor);
    void setHoverBgColor(const QColor &hoverBgColor);
    void setCheckBgColor(const QColor &checkBgColor);
    void setNormalTextColor(const QColor &normalTextColor);
    void setHoverTextColor(const QColor &hoverTextColor);
    void setCheckTextColor(const QColor &checkTextColor);

    void setNormalBgBrush(const QBrush &normalBgBrush);
    void setHoverBgBrush(const QBrush &hoverBgBrush);
    void setCheckBgBrush(const QBrush &checkBgBrush);

signals:
    void isHover(bool status);

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    template <typename T> void assign(T &member, const T &value);

    void drawBackground(QPainter *painter);
    void drawIcon(QPainter *painter);
    void drawText(QPainter *painter);
    void drawLine(QPainter *painter);
    void drawTriangle(QPainter *painter);

    int m_paddingLeft = 0;
    int m_paddingRight = 0;
    int m_paddingTop = 0;
    int m_paddingBottom = 0;
    TextAlign m_textAlign = TextAlign_Center;

    bool m_showTriangle = false;
    int m_triangleLen = 5;
    TrianglePosition m_trianglePosition = TrianglePosition_Right;
    QColor m_triangleColor{255, 255, 255};

    bool m_showIcon = true;
    int m_iconSpace = 0;
    QSize m_iconSize{16, 16};
    QPixmap m_iconNormal;
    QPixmap m_iconHover;
    QPixmap m_iconCheck;

    bool m_showLine = false;
    int m_lineSpace = 0;
    int m_lineWidth = 5;
    LinePosition m_linePosition = LinePosition_Left;
    QColor m_lineColor{0, 187, 158};

    QColor m_normalBgColor{230, 230, 230};
    QColor m_hoverBgColor{230, 75, 0};
    QColor m_checkBgColor{200, 200, 200};
    QColor m_normalTextColor{0, 0, 0};
    QColor m_hoverTextColor{255, 255, 255};
    QColor m_checkTextColor{255, 255, 255};

    QBrush m_normalBgBrush{Qt::NoBrush};
    QBrush m_hoverBgBrush{Qt::NoBrush};
    QBrush m_checkBgBrush{Qt::NoBrush};

    IconPosition m_iconPosition = IconPosition_mid;
    QColor m_disabledBgColor{204, 204, 204};
    QColor m_disabledTextColor{120, 120, 120};
    bool m_hover = false;
    bool m_autoFontSize = false;
    bool m_roundCorner = false;
    int m_cornerRadius = 15;
};
