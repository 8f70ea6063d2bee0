#include "peer.h"

#include "text.h"
#include "window.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleFactory>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace platform::qt {

namespace {

// Text on the program's own background colours is black, locked or not: on white, green and red alike it
// keeps well above WCAG AA's 4.5:1 even in the thin strokes of a 9 pt face (a locked box's grey fell below it
// on green). The theme's text colour would be unreadable on them in a dark theme.
constexpr Qt::GlobalColor TextOnOwnColour = Qt::black;

// Paints a control's own background colour, with the text colour that goes with it, in every colour group: a
// locked box keeps its colour.
void paintColours(QWidget *widget, QPalette::ColorRole background, QPalette::ColorRole text, Colour colour)
{
    QPalette palette = widget->palette();
    palette.setColor(background, toQColor(colour));
    palette.setColor(text, TextOnOwnColour);
    widget->setPalette(palette);
}

// Whether style paints a line edit's background in the palette's Base colour, enabled and disabled, found by
// painting one. (adwaita-qt's styles honour it only while the line edit is enabled: locked answers lose their
// green.)
bool paintsBaseColour(QStyle *style)
{
    const QColor probe(0x12, 0x34, 0x56);
    QLineEdit edit;
    edit.setStyle(style);
    QPalette palette = edit.palette();
    palette.setColor(QPalette::Base, probe);
    edit.setPalette(palette);
    edit.resize(40, 20);
    for (const bool enabled : {true, false}) {
        edit.setEnabled(enabled);
        const QImage image = edit.grab().toImage();
        if (image.pixelColor(image.width() / 2, image.height() / 2) != probe)
            return false;
    }
    return true;
}

// The style for text boxes: the application's, unless it paints line edits in colours of its own
// (adwaita-qt's styles do), which would hide the white and green of the answer sheet; then Fusion, which
// honours them.
QStyle *textBoxStyle()
{
    static QString checkedStyle;
    static bool honoursColours = true;
    static QPointer<QStyle> fusion;
    QStyle *style = QApplication::style();
    if (style->name() != checkedStyle) {
        checkedStyle = style->name();
        // Qt's own styles are known to honour them; the probe costs a line edit painted twice at start-up.
        static const QStringList QtStyles{
            QStringLiteral("fusion"), QStringLiteral("windows"), QStringLiteral("windowsvista")};
        honoursColours = QtStyles.contains(checkedStyle, Qt::CaseInsensitive) || paintsBaseColour(style);
    }
    if (honoursColours)
        return nullptr;
    if (!fusion) {
        fusion = QStyleFactory::create(QStringLiteral("Fusion"));
        fusion->setParent(qApp);
    }
    return fusion;
}

// A label that lays its caption out as in the Song faces the window was drawn for, whatever CJK face the
// system has. A space is half as wide as a Chinese character: the nine spaces of "时间         分钟 n" open
// the gap that the minutes box stands over, and the narrower spaces of other faces (WenQuanYi, Noto) would
// slide 分钟 under it; the text itself stays as it is, for screen readers too. On request, the caption is
// also placed by the ink of its glyphs rather than by its font's line height: CJK faces differ in ascent by a
// third of an em, and in a bar barely taller than its font's em, top alignment puts the caption of one face
// half below the bar.
class CaptionLabel final : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    void setPlacedByInk(bool placed)
    {
        m_placeByInk = placed;
        m_placed = false;
        m_shift = 0; // measured again at the next paint that has ink to place
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        const QString caption = text();
        qreal widening = 0;
        if (caption.contains(u' ')) {
            const QFontMetricsF metrics(font());
            widening = metrics.horizontalAdvance(QChar(u'时')) / 2 - metrics.horizontalAdvance(QChar(u' '));
        }
        const bool widen = qAbs(widening) >= 0.01;
        if (m_placeByInk && !m_placed && !caption.trimmed().isEmpty())
            place(); // measured when there is ink to place: the bar starts out with a blank caption
        if (!widen && qFuzzyIsNull(m_shift)) {
            QLabel::paintEvent(event);
            return;
        }
        // Word spacing would not do: Qt applies it only to spaces that follow Latin text.
        QList<QTextLayout::FormatRange> spaces;
        if (widen) {
            QTextCharFormat wide;
            wide.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            wide.setFontLetterSpacing(widening);
            for (int i = 0; i < caption.size(); ++i)
                if (caption.at(i) == u' ')
                    spaces.append({i, 1, wide});
        }
        QTextLayout layout(caption, font());
        layout.setFormats(spaces);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();

        const QRect area = contentsRect();
        const qreal x = alignment() & Qt::AlignRight ? area.left() + area.width() - line.naturalTextWidth()
                                                     : area.left();
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        layout.draw(&painter, QPointF(x, area.top() + m_shift));
    }

    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        if (event->size().height() != event->oldSize().height())
            m_placed = false; // not when only the width changes: the time bar does at every tick
    }

    void changeEvent(QEvent *event) override
    {
        QLabel::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            m_placed = false;
    }

private:
    // Keeps the strokes of the bar's captions (digits, colons, a minus sign, Chinese characters) off the
    // label's first and last rows: where the font's line height puts them when they fit, as in the Song faces
    // the layout was drawn for, else moved just enough, else centred. The ink is measured as drawn, in device
    // pixels: font metrics miss hinting by a pixel, and the bar is only a pixel or two taller than the
    // glyphs.
    void place()
    {
        m_placed = true;
        const qreal ratio = devicePixelRatioF();
        const int rows = int(height() * ratio);
        const auto [top, bottom] = inkRows(font(), ratio);
        int move = 0; // when no glyph has ink there is nothing to place
        if (top >= 0 && bottom - top <= rows - 3)
            move = std::clamp(0, 1 - top, rows - 2 - bottom);
        else if (top >= 0)
            move = (rows - 1 - top - bottom) / 2;
        m_shift = move / ratio;
    }

    // The first and last device-pixel rows that the strokes of the bar's captions cover, drawn in font with
    // the line's top at row 0.
    static std::pair<int, int> inkRows(const QFont &font, qreal ratio)
    {
        const QString sample = QStringLiteral("0123456789:-请检查结果");
        const QFontMetricsF metrics(font);
        QImage image(int(std::ceil(metrics.horizontalAdvance(sample) * ratio)) + 2,
            int(std::ceil(metrics.height() * ratio)) + 2, QImage::Format_Alpha8);
        image.fill(0);
        image.setDevicePixelRatio(ratio);
        QPainter painter(&image);
        painter.setFont(font);
        painter.drawText(QPointF(0, metrics.ascent()), sample);
        painter.end();
        int top = -1;
        int bottom = -1;
        for (int y = 0; y < image.height(); ++y) {
            const uchar *row = image.constScanLine(y);
            if (std::any_of(row, row + image.width(), [](uchar alpha) { return alpha >= 128; })) {
                top = top < 0 ? y : top;
                bottom = y;
            }
        }
        return {top, bottom};
    }

    bool m_placeByInk = false;
    bool m_placed = false;
    qreal m_shift = 0; // pixels down from where the font's line height puts the caption
};

// Each kind of control's widget, as the kind it is: the peer made it.
QLineEdit *lineEdit(QWidget *widget)
{
    return static_cast<QLineEdit *>(widget);
}

CaptionLabel *captionLabel(QWidget *widget)
{
    return static_cast<CaptionLabel *>(widget);
}

QPushButton *pushButton(QWidget *widget)
{
    return static_cast<QPushButton *>(widget);
}

QListWidget *listWidget(QWidget *widget)
{
    return static_cast<QListWidget *>(widget);
}

Qt::Alignment labelAlignment(int alignment)
{
    return (alignment == Label::RightJustify ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
}

QWidget *newWidget(Control::Kind kind, QWidget *parent)
{
    switch (kind) {
    case Control::Kind::TextBox: {
        auto *edit = new QLineEdit(parent);
        if (QStyle *style = textBoxStyle())
            edit->setStyle(style);
        return edit;
    }
    case Control::Kind::Label: {
        auto *label = new CaptionLabel(parent);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case Control::Kind::CommandButton: {
        auto *button = new QPushButton(parent);
        button->setAutoDefault(false);
        return button;
    }
    case Control::Kind::ListBox:
        break;
    }
    return new QListWidget(parent);
}

} // namespace

int twipsToPixels(double twips)
{
    constexpr double Limit = 1e6 * TwipsPerPixel;
    if (!std::isfinite(twips))
        return 0;
    return qRound(std::clamp(twips, -Limit, Limit) / TwipsPerPixel);
}

QRect pixelGeometry(const Control &control)
{
    const int x = twipsToPixels(control.left());
    const int y = twipsToPixels(control.top());
    const int right = twipsToPixels(double(control.left()) + double(control.width()));
    const int bottom = twipsToPixels(double(control.top()) + double(control.height()));
    return QRect(x, y, std::max(0, right - x), std::max(0, bottom - y));
}

QColor toQColor(Colour colour)
{
    return QColor(int(colour & 0xFF), int(colour >> 8 & 0xFF), int(colour >> 16 & 0xFF));
}

QFont toQFont(const Font &font)
{
    QFont qfont;
    // SimSun where it is installed; elsewhere another Song (Ming) face. Its half-width spaces are what open
    // the gap in "时间         分钟 n" that the minutes box fills (labels give the spaces of other faces that
    // width).
    if (font.name == u"宋体")
        qfont.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
            QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW"),
            QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Source Han Serif SC"),
            QStringLiteral("AR PL SungtiL GB")});
    else
        qfont.setFamilies({toQString(font.name)});
    qfont.setPointSizeF(font.points);
    qfont.setWeight(QFont::Weight(font.weight));
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeOut);
    return qfont;
}

QWidget *widgetOf(const Control &control)
{
    const auto *peer = static_cast<Peer *>(control.peer());
    return peer ? peer->widget() : nullptr;
}

Peer::Peer(Control::Kind kind, Window &window)
    : m_window(window)
    , m_widget(newWidget(kind, &window))
    , m_kind(kind)
{
    setParent(m_widget);
    // The connections last as long as the widget; they reach whichever control it shows at the time.
    if (kind == Control::Kind::TextBox) {
        connect(lineEdit(m_widget), &QLineEdit::textChanged, this, [this](const QString &text) {
            if (m_control)
                static_cast<TextBox *>(m_control)->typed(toU16String(text));
        });
    } else if (kind == Control::Kind::CommandButton) {
        connect(pushButton(m_widget), &QPushButton::clicked, this, [this] {
            if (m_control)
                static_cast<CommandButton *>(m_control)->click();
        });
    }
}

Peer::~Peer()
{
    if (m_control)
        m_control->setPeer(nullptr);
}

void Peer::bind(Control *control)
{
    if (m_control)
        m_control->setPeer(nullptr);
    if (refreshPending)
        m_window.forgetRefresh(this);
    m_control = control;
    if (!control)
        return;
    control->setPeer(this);
    for (const Change change : {Change::Text, Change::BackColor, Change::Alignment, Change::Font,
             Change::Items, Change::Geometry, Change::Enabled})
        show(change);
    m_widget->setVisible(control->isVisible());
}

void Peer::changed(Change change)
{
    // A run-time control's visibility decides whether it has a widget at all: the window sees to it.
    if (change == Change::Visible && !m_control->isRunTime())
        m_widget->setVisible(m_control->isVisible());
    else if (change == Change::BackColor && m_kind == Control::Kind::TextBox)
        m_window.refreshLater(this);
    else
        show(change);
}

void Peer::controlDestroyed()
{
    m_window.release(this);
}

void Peer::refresh()
{
    if (m_kind != Control::Kind::TextBox || !m_control)
        return;
    const Colour colour = static_cast<TextBox *>(m_control)->backColor();
    if (m_widget->palette().color(QPalette::Base) != toQColor(colour))
        paintColours(m_widget, QPalette::Base, QPalette::Text, colour);
}

void Peer::show(Change change)
{
    switch (change) {
    case Change::Geometry:
        m_widget->setGeometry(pixelGeometry(*m_control));
        return;
    case Change::Enabled:
        m_widget->setEnabled(m_control->isEnabled());
        return;
    default:
        break;
    }

    switch (m_kind) {
    case Control::Kind::TextBox: {
        const auto &box = static_cast<const TextBox &>(*m_control);
        if (change == Change::Text) {
            // Also clears the undo history that a widget handed on from another box would carry.
            lineEdit(m_widget)->setText(toQString(box.text()));
        } else if (change == Change::BackColor) {
            paintColours(m_widget, QPalette::Base, QPalette::Text, box.backColor());
        } else if (change == Change::SelectAll) {
            m_widget->setFocus(Qt::OtherFocusReason);
            lineEdit(m_widget)->selectAll();
        }
        return;
    }
    case Control::Kind::Label: {
        const auto &label = static_cast<const Label &>(*m_control);
        CaptionLabel *widget = captionLabel(m_widget);
        if (change == Change::Text) {
            widget->setText(toQString(label.caption()));
        } else if (change == Change::Alignment) {
            widget->setAlignment(labelAlignment(label.alignment()));
        } else if (change == Change::BackColor) {
            widget->setAutoFillBackground(label.backColor().has_value());
            if (label.backColor())
                paintColours(widget, QPalette::Window, QPalette::WindowText, *label.backColor());
            else if (widget->testAttribute(Qt::WA_SetPalette))
                widget->setPalette(QPalette()); // back to the window's colours
        } else if (change == Change::Font) {
            if (label.font())
                widget->setFont(toQFont(*label.font()));
            else if (widget->testAttribute(Qt::WA_SetFont))
                widget->setFont(QFont()); // back to the window's font
            // A caption in a font of its own (the time bar's 18 pt in a bar of 25 pixels) is placed by its
            // ink.
            widget->setPlacedByInk(label.font() != nullptr);
        }
        return;
    }
    case Control::Kind::CommandButton:
        if (change == Change::Text)
            pushButton(m_widget)->setText(
                toQString(static_cast<const CommandButton &>(*m_control).caption()));
        return;
    case Control::Kind::ListBox: {
        const auto &list = static_cast<const ListBox &>(*m_control);
        if (change == Change::Items) {
            listWidget(m_widget)->clear();
            for (const auto &item : list.items())
                listWidget(m_widget)->addItem(toQString(item));
        } else if (change == Change::ItemAdded) {
            listWidget(m_widget)->addItem(toQString(list.items().back()));
        }
        return;
    }
    }
}

} // namespace platform::qt

#include "peer.moc"
