#pragma once

#include <QString>

// The fixed French text of the help page: a heading, then the questions users ask most.
QString helpText();
