#include "solver/subgame_host.h"

namespace qv {

namespace {
std::shared_ptr<SubgameHost>& installedHost() {
    static std::shared_ptr<SubgameHost> host;
    return host;
}
}  // namespace

void setSubgameHost(std::shared_ptr<SubgameHost> host) { installedHost() = std::move(host); }

SubgameHost* subgameHost() { return installedHost().get(); }

}  // namespace qv
