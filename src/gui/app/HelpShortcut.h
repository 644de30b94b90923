#pragma once

#include "app/Help.h"

#include <functional>

class QWidget;

// F1 and Shift+F1 on a dialog open the help page of its context (asked at the moment of the key).
void addHelpShortcut(QWidget* dialog, std::function<HelpContext()> context);

// Shows a help page in the help window.
void showHelpPage(HelpContext context);
