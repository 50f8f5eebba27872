#pragma once

#include <string>

namespace infotest::web {

// The window as the page's own markup, in the state the layout table gives
// it at creation: the scaled stage with its heading and its words for a
// screen reader, Form1, and an element for every control, in the order the
// focus and the reading follow, each with its inline style, caption and
// whether it is shown. The stage is hidden until the page's script has the
// fonts and the title image ready, so that the window appears whole; the
// window in the WebAssembly then takes these elements over (page.js).
//
// The title image's source is left as the placeholder "@TITLE_IMAGE@",
// which the page's build replaces with the image itself.
std::string WindowMarkup();

}  // namespace infotest::web
