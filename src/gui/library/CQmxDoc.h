#pragma once

#include "library/MonitorWindowText.h"

#include <string>

// A monitor window's document: the library it watches (its title) and the log text.
class CQmxDoc {
public:
    explicit CQmxDoc(std::string address) : m_address(std::move(address)) {}

    const std::string& title() const { return m_address; }
    MonitorWindowText& text() { return m_text; }
    const MonitorWindowText& text() const { return m_text; }
    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    // Writes the log to a file as it reads in the window; false when the file cannot be written.
    bool saveTo(const std::string& path) const;

private:
    std::string m_address;
    MonitorWindowText m_text;
    bool m_modified = false;
};
