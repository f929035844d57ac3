#pragma once

#include <QString>

namespace halvik::ui {

// The fixed French text of the help page: a heading, then the questions users ask most.
QString helpText();

}  // namespace halvik::ui
