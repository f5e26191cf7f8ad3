#pragma once
// The application's compiled-in resources (icons). The resource file lives in
// a static library, so every program that uses it registers it once at start.
#include <QIcon>
#include <QSize>
#include <QString>

namespace vantrel::ui {

// Registers the compiled-in resources; call once after creating the
// application object. Calling it again is harmless.
void InitResources();

// The resource path of an icon by its number: ":/icons/<id>.svg".
QString IconPath(int iconId);

// Renders icon <id> at the given size (in device-independent pixels, sharp on
// high-density screens). A null icon when the number is not positive, the
// resource does not exist or it is not a valid image.
QIcon LoadSvgIcon(int iconId, QSize size);

}  // namespace vantrel::ui
