#pragma once

#include <QString>

// The consent texts that name who receives the statistics and where they are sent.
namespace UsageTexts {

QString recipient();
QString host();

} // namespace UsageTexts
