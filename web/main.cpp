#include "session.h"

int main() {
    runetally::web::Session::Get().start();
    return 0;
}
