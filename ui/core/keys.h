#pragma once

namespace infotest {

// The keys a window handles itself, whatever its toolkit. The values are the
// browser's key codes, so that the page can hand them over as they come; every
// other key keeps its toolkit's meaning.
enum class Key { Tab = 9, Enter = 13, Escape = 27, Space = 32, Left = 37, Up = 38, Right = 39, Down = 40 };

}  // namespace infotest
