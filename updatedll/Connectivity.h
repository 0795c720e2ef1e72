// Whether the system sees a way to the internet: the network list manager's
// connectivity, or, where that cannot be asked, WinINet's connected state.
#pragma once

namespace upd {

bool SystemSeesInternet();

}  // namespace upd
