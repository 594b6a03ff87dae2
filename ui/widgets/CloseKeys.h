#pragma once

#include <functional>

class QWidget;

// Ctrl+W closes window; Esc first lets escape undo what is going on (a
// running job, an open bar) and closes window only when escape did nothing.
void AddCloseKeys(QWidget* window, std::function<bool()> escape);
