#pragma once

#include <functional>

// Runs a window's event handler: a failure it raises is shown with its text
// (through CompGeneral's message, which tests answer) and the window stays
// as it was. False when the handler failed.
bool Atender(const std::function<void()>& manejador);
