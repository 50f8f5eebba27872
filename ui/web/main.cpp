#include "ui/web/form1.h"

// The window stays on the page after main returns: the browser's event loop
// runs it from here on.
int main() {
    static infotest::web::Form1 form;
    form.Show();
    return 0;
}
