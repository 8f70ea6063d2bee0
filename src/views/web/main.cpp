#include "platform/services.h"
#include "views/web/services.h"
#include "views/web/window.h"
#include "window/form1.h"

// The page's program: it starts once the page has the key (pre.js), shows the window and returns; the window
// then lives as long as the page, answering its events.
int main()
{
    static views::web::Services toolkit;
    static platform::SystemServices services(toolkit);
    static Form1 form(services);
    static views::web::Window window(form);
    window.show();
    return 0;
}
