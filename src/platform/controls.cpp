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
        paintBackground(widget(), QPalette::Base, colour);
}

void TextBox::selectAll()
{
    if (auto *edit = static_cast<QLineEdit *>(widget())) {
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
}

QWidget *TextBox::createWidget(QWidget *parent)
{
    auto *edit = new QLineEdit(m_text, parent);
    paintBackground(edit, QPalette::Base, m_backColor);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [this](const QString &text) { m_text = text; });
    return edit;
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

QWidget *Label::createWidget(QWidget *parent)
{
    auto *label = new QLabel(m_caption, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(labelAlignment(m_alignment));
    if (m_backColor) {
        label->setAutoFillBackground(true);
        paintBackground(label, QPalette::Window, *m_backColor);
    }
    if (m_font)
        label->setFont(*m_font);
    return label;
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

QWidget *CommandButton::createWidget(QWidget *parent)
{
    auto *button = new QPushButton(m_caption, parent);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, button, [this] {
        if (m_onClick)
            window().deliver(m_onClick);
    });
    return button;
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

QWidget *ListBox::createWidget(QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->addItems(m_items);
    return list;
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
