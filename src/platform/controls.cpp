#include "controls.h"

#include "window.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace platform {

namespace {

void paintBackground(QWidget *widget, QPalette::ColorRole role, Colour colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, toQColor(colour)); // every colour group: a disabled box keeps its colour
    widget->setPalette(palette);
}

Qt::Alignment labelAlignment(int alignment)
{
    return (alignment == Label::RightJustify ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
}

} // namespace

// TextBox

TextBox::TextBox(Window &window)
    : Control(window)
{
    materialize();
}

TextBox::TextBox(const TextBox &prototype, HiddenCopy tag)
    : Control(prototype, tag)
    , m_text(prototype.m_text)
    , m_backColor(prototype.m_backColor)
{
}

std::unique_ptr<TextBox> TextBox::hiddenCopy() const
{
    return std::unique_ptr<TextBox>(new TextBox(*this, HiddenCopy{}));
}

void TextBox::setText(const QString &text)
{
    m_text = text;
    if (auto *edit = static_cast<QLineEdit *>(widget()))
        edit->setText(text);
}

void TextBox::setBackColor(Colour colour)
{
    m_backColor = colour;
    if (widget())
        window().refreshLater(*this);
}

void TextBox::refreshWidget()
{
    if (widget() && widget()->palette().color(QPalette::Base) != toQColor(m_backColor))
        paintBackground(widget(), QPalette::Base, m_backColor);
}

void TextBox::selectAll()
{
    if (auto *edit = static_cast<QLineEdit *>(widget())) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
}

QWidget *TextBox::newWidget(QWidget *parent) const
{
    return new QLineEdit(parent);
}

QMetaObject::Connection TextBox::connectWidget(QWidget *widget)
{
    return QObject::connect(static_cast<QLineEdit *>(widget), &QLineEdit::textChanged, widget,
        [this](const QString &text) { m_text = text; });
}

void TextBox::showProperties(QWidget *widget)
{
    // Also clears the undo history that a widget handed on from another box would carry.
    static_cast<QLineEdit *>(widget)->setText(m_text);
    paintBackground(widget, QPalette::Base, m_backColor);
}

// Label

Label::Label(Window &window)
    : Control(window)
{
    materialize();
}

Label::Label(const Label &prototype, HiddenCopy tag)
    : Control(prototype, tag)
    , m_caption(prototype.m_caption)
    , m_alignment(prototype.m_alignment)
    , m_backColor(prototype.m_backColor)
    , m_font(prototype.m_font)
{
}

std::unique_ptr<Label> Label::hiddenCopy() const
{
    return std::unique_ptr<Label>(new Label(*this, HiddenCopy{}));
}

void Label::setCaption(const QString &caption)
{
    m_caption = caption;
    if (auto *label = static_cast<QLabel *>(widget()))
        label->setText(caption);
}

void Label::setAlignment(int alignment)
{
    m_alignment = alignment;
    if (auto *label = static_cast<QLabel *>(widget()))
        label->setAlignment(labelAlignment(alignment));
}

void Label::setBackColor(Colour colour)
{
    m_backColor = colour;
    if (widget()) {
        widget()->setAutoFillBackground(true);
        paintBackground(widget(), QPalette::Window, colour);
    }
}

void Label::setFont(const QFont &font)
{
    m_font = font;
    if (widget())
        widget()->setFont(font);
}

QWidget *Label::newWidget(QWidget *parent) const
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void Label::showProperties(QWidget *widget)
{
    auto *label = static_cast<QLabel *>(widget);
    label->setText(m_caption);
    label->setAlignment(labelAlignment(m_alignment));
    label->setAutoFillBackground(m_backColor.has_value());
    if (m_backColor)
        paintBackground(label, QPalette::Window, *m_backColor);
    if (m_font)
        label->setFont(*m_font);
    else if (label->testAttribute(Qt::WA_SetFont))
        label->setFont(QFont()); // back to the window's font
}

// CommandButton

CommandButton::CommandButton(Window &window)
    : Control(window)
{
    materialize();
}

void CommandButton::setCaption(const QString &caption)
{
    m_caption = caption;
    if (auto *button = static_cast<QPushButton *>(widget()))
        button->setText(caption);
}

QWidget *CommandButton::newWidget(QWidget *parent) const
{
    auto *button = new QPushButton(parent);
    button->setAutoDefault(false);
    return button;
}

QMetaObject::Connection CommandButton::connectWidget(QWidget *widget)
{
    return QObject::connect(static_cast<QPushButton *>(widget), &QPushButton::clicked, widget, [this] {
        if (m_onClick)
            window().deliver(m_onClick);
    });
}

void CommandButton::showProperties(QWidget *widget)
{
    static_cast<QPushButton *>(widget)->setText(m_caption);
}

// ListBox

ListBox::ListBox(Window &window)
    : Control(window)
{
    materialize();
}

void ListBox::clear()
{
    m_items.clear();
    if (auto *list = static_cast<QListWidget *>(widget()))
        list->clear();
}

void ListBox::addItem(const QString &item)
{
    m_items.append(item);
    if (auto *list = static_cast<QListWidget *>(widget()))
        list->addItem(item);
}

QString ListBox::item(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : QString();
}

QWidget *ListBox::newWidget(QWidget *parent) const
{
    return new QListWidget(parent);
}

void ListBox::showProperties(QWidget *widget)
{
    auto *list = static_cast<QListWidget *>(widget);
    list->clear();
    list->addItems(m_items);
}

// Timer

Timer::Timer(Window &window)
    : m_timer(new QTimer(&window))
{
    m_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_timer, &QTimer::timeout, m_timer, [this, &window] {
        if (m_onTimer)
            window.deliver(m_onTimer);
    });
}

Timer::~Timer()
{
    delete m_timer;
}

int Timer::interval() const
{
    return m_timer->interval();
}

void Timer::setInterval(int milliseconds)
{
    m_timer->setInterval(milliseconds);
}

bool Timer::isEnabled() const
{
    return m_timer->isActive();
}

void Timer::setEnabled(bool enabled)
{
    if (!enabled)
        m_timer->stop();
    else if (!m_timer->isActive())
        m_timer->start();
}

} // namespace platform
