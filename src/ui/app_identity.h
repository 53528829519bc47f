#pragma once
// How the desktop knows the program: its names, the desktop entry it was
// started from (so that a dock or task bar groups its windows under the
// launcher's icon) and the window icon.
namespace mz {

// The desktop entry's id, also the icon's name and the AppStream id.
inline constexpr const char* kDesktopId = "org.example.mz4800";

// Sets the organisation and application names, the desktop file name and the
// window icon of every window. Needs the QApplication.
void SetApplicationIdentity();

}  // namespace mz
