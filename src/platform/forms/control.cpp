#include "control.h"

#include "form.h"

namespace platform {

Control::Control(Form &form, Kind kind)
    : m_form(form)
    , m_kind(kind)
{
    form.m_controls.push_back(this);
}

Control::Control(const Control &prototype, HiddenCopy)
    : m_form(prototype.m_form)
    , m_left(prototype.m_left)
    , m_top(prototype.m_top)
    , m_width(prototype.m_width)
    , m_height(prototype.m_height)
    , m_kind(prototype.m_kind)
    , m_visible(false)
    , m_enabled(prototype.m_enabled)
    , m_runTime(true)
{
}

Control::~Control()
{
    if (m_peer)
        m_peer->controlDestroyed();
    if (!m_runTime)
        std::erase(m_form.m_controls, this);
}

void Control::setLeft(float twips)
{
    m_left = twips;
    changed(Change::Geometry);
}

void Control::setTop(float twips)
{
    m_top = twips;
    changed(Change::Geometry);
}

void Control::setWidth(float twips)
{
    m_width = twips;
    changed(Change::Geometry);
}

void Control::setHeight(float twips)
{
    m_height = twips;
    changed(Change::Geometry);
}

void Control::move(float left, float top, float width, float height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    changed(Change::Geometry);
}

void Control::setVisible(bool visible)
{
    m_visible = visible;
    changed(Change::Visible);
}

void Control::setEnabled(bool enabled)
{
    m_enabled = enabled;
    changed(Change::Enabled);
}

void Control::setLabelledBy(const Label &label)
{
    m_labelledBy = &label;
    changed(Change::Name);
}

void Control::changed(Change change)
{
    if (m_peer)
        m_peer->changed(change);
    if (m_runTime && (change == Change::Geometry || change == Change::Visible))
        m_form.runTimeControlsChanged();
}

} // namespace platform
