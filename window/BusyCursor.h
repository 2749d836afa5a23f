#pragma once
// Holds a host's busy cursor (the wait pointer) for a scope, so that every
// begin has its end on every way out, exceptions included. Any host with
// beginBusy() and endBusy() will do.

namespace varnholt {

template <class Host> class BusyCursor {
  public:
    explicit BusyCursor(Host& host) : host_(host) { host_.beginBusy(); }
    ~BusyCursor() { host_.endBusy(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    Host& host_;
};

} // namespace varnholt
