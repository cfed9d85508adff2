#pragma once
// The desktop's services the windows use besides dialogs, behind one
// interface so tests can record what would have been opened.

#include <QString>

namespace korvane {

class Desktop
{
public:
    virtual ~Desktop() = default;
    // Hands a web or mail address to the desktop's default handler.
    virtual void openAddress(const QString& address) = 0;
};

// The real desktop.
class QtDesktop : public Desktop
{
public:
    void openAddress(const QString& address) override;
};

} // namespace korvane
