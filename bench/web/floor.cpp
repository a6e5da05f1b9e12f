// The start-up floor for the page: a minimal Emscripten module that shows one input box.
#include <emscripten/emscripten.h>

// clang-format off
EM_JS(void, ShowBox, (), {
    var box = document.createElement("input");
    box.id = "floor";
    box.value = "100";
    document.body.appendChild(box);
});
// clang-format on

int main() {
    ShowBox();
    return 0;
}
