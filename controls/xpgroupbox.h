#pragma once

#include <QColor>
#include <QFont>
#include <QGroupBox>

// A group box drawn with rounded corners, in one of two styles: a frame whose top line runs through
// the title, or a window with a title band over a square client area. The title has its own font,
// colour and alignment.
class CXPGroupBox : public QGroupBox {
    Q_OBJECT
public:
    enum { GBS_FRAME = 0, GBS_WINDOW = 1 };
    enum { GBA_LEFT = 0, GBA_CENTER = 1, GBA_RIGHT = 2 };

    explicit CXPGroupBox(const QString &title = {}, QWidget *parent = nullptr);

    virtual CXPGroupBox &SetFrameColor(const QColor &colour);
    virtual CXPGroupBox &SetTitleColor(const QColor &colour);
    virtual CXPGroupBox &SetFillColors(const QColor &title, const QColor &client);
    virtual CXPGroupBox &SetFillColor(const QColor &colour);
    virtual CXPGroupBox &SetGroupStyle(int style);
    // Only once the control's window exists; before that it changes nothing.
    virtual CXPGroupBox &SetTitle(const QString &title);
    virtual CXPGroupBox &SetTitleBold(bool bold);
    virtual CXPGroupBox &SetTitleFace(const QString &face, int charSet = 0);
    virtual CXPGroupBox &SetTitleUnderline(bool underline);
    virtual CXPGroupBox &SetTitleItalic(bool italic);
    virtual CXPGroupBox &SetTitlePointSize(int points);
    virtual CXPGroupBox &SetTitleFont(const QFont &font);
    virtual CXPGroupBox &SetTitleAlign(int align);

    QString drawnTitle() const { return m_strTitle; }
    QFont titleFont() const { return m_lfTitle; }
    int titleCharSet() const { return m_nTitleCharSet; }
    int groupStyle() const { return m_nGroupStyle; }
    int titleAlign() const { return m_nTitleAlign; }
    // Where the title goes for a title of `textSize`, in the control's coordinates.
    QRect titleRect(QSize textSize) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void RecreateTitleFont();
    void RefreshGroup();

    QString m_strTitle;
    QColor m_clrFrame;
    QColor m_clrTitleBk;
    QColor m_clrClientBk;
    QColor m_clrTitleText;
    int m_nGroupStyle = GBS_FRAME;
    int m_nTitleAlign = GBA_LEFT;
    QFont m_lfTitle;
    int m_nTitleCharSet = 0;
    QFont m_fontTitle;
};
