// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

namespace vantrel {

// The application's icon (":/icons/vantrel.svg"), rendered at the sizes desktops ask
// for, 16 to 256 px. Null if the resource cannot be read.
QIcon vantrelIcon();

}  // namespace vantrel
