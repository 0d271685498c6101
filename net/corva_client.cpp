#include "net/corva_client.h"

namespace lunaro::net {

// Out of line so that the class's type information lives in one object file.
TCorvaClient::TCorvaClient() = default;
TCorvaClient::~TCorvaClient() = default;

}  // namespace lunaro::net
