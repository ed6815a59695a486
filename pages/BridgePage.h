#pragma once

class DCDataHandle;

// A settings page connects itself to the bridge: the requests it sends and
// the answers it shows. The window calls connectBridge once for every page,
// so it stays a frame however much the pages do. The bridge lives on a
// thread of its own: only signal connections (queued across the threads),
// never a direct call into it.
class BridgePage
{
public:
    virtual ~BridgePage() = default;
    virtual void connectBridge(DCDataHandle *bridge) = 0;
};
