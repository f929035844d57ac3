#pragma once

#include "companion/BalloonNotice.h"

#include <optional>
#include <string>

namespace halvik::companion {

// The actions of a notice that the Windows balloon cannot show, offered once the balloon is
// clicked: a small dialog with the notice's text (plain text, never markup), a button per
// action and "Fermer". The key of the action chosen; nullopt when the dialog is closed.
std::optional<std::string> chooseNoticeAction(const BalloonNotice::Offer& offer);

}  // namespace halvik::companion
