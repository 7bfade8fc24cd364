#pragma once

#include <QString>
#include <memory>

// Opens a file with the program the desktop associates with its type (what
// the suite asked of the Windows shell with "open"). One process-wide
// instance; tests put a stand-in in its place, since a test machine has no
// desktop to open anything on.
class DesktopOpener
{
public:
    virtual ~DesktopOpener() = default;

    // False when the desktop has no program for the file's type or it could
    // not be started; the file is left as it is either way.
    virtual bool open(const QString& path) = 0;

    static DesktopOpener& instance();
    // Test hook: replaces the instance (nullptr restores the desktop's).
    static void setInstance(std::unique_ptr<DesktopOpener> opener);
};
