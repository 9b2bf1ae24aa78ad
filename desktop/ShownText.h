// Texts that come from the layers below the windows (errors, network notices) in the
// user's language. Those layers speak English only; the windows translate a text
// where they show it.
#pragma once

#include <QString>

#include <string>

namespace hw {

// The translation of `english` if it is one of the known texts, or one of them with
// its names and numbers filled in; otherwise `english` itself.
QString ShownText(const std::string& english);

}  // namespace hw
