#pragma once

#include <QIcon>

namespace parlowen {

// What lets the desktop match the window to its entry: the entry's name (the app id on Wayland) and the
// entry's icon on the window.
class DesktopIdentity {
  public:
    static constexpr char AppId[] = "org.parlowen.Parlowen";

    // The icon theme's icon for the entry, or the copy built into the program where no theme has it, so
    // that the window manager never shows a generic one.
    static QIcon WindowIcon();

    // Names the entry and sets the icon for every window of the application.
    static void Apply();
};

} // namespace parlowen
