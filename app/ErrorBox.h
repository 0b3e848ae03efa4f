#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace orvane {

// Shows one error to the user and returns when it has been acknowledged. The application
// holds one, so tests can take the errors instead of a modal box.
using ErrorBox = std::function<void(const QString& caption, const QString& text)>;

// The real box: modal, with the critical icon and a single OK button, over the active window.
void ShowModalErrorBox(const QString& caption, const QString& text);

}  // namespace orvane
