#pragma once

#include <QString>

// The consent texts that name who receives the statistics and where they are sent.
namespace UsageTexts {

QString recipient();
QString host();
// Said after the sentence naming recipient and host when this build sends no reports (a build
// wired to the stand-in developer tools); empty otherwise.
QString buildNote();

} // namespace UsageTexts
