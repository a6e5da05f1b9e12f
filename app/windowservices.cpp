#include "windowservices.h"

namespace runetally {

const AppIdentity& BuildIdentity() {
    static const AppIdentity identity{RUNETALLY_TITLE, RUNETALLY_VERSION_MAJOR,
                                      RUNETALLY_VERSION_MINOR, RUNETALLY_VERSION_PATCH};
    return identity;
}

} // namespace runetally
