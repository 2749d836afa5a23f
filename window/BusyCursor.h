#pragma once
// The busy cursor (the wait pointer) of a host, for the models. Any host with
// beginBusy() and endBusy() will do; the models call them in strict pairs, so a
// host needs no count of its own.

namespace varnholt {

// Holds a host's busy cursor for a scope, so that every begin has its end on
// every way out, exceptions included.
template <class Host> class BusyCursor {
  public:
    explicit BusyCursor(Host& host) : host_(host) { host_.beginBusy(); }
    ~BusyCursor() { host_.endBusy(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    Host& host_;
};

// The busy cursor of a window whose operations nest and which opens modal
// windows: shown while any Hold lasts, and lifted while a modal window (a
// message box, a file dialog) waits for the user, who is then no longer
// waiting for the program. The host sees one begin when the first Hold starts
// and one end when the last ends or a Lift starts.
template <class Host> class BusyCursorKeeper {
  public:
    explicit BusyCursorKeeper(Host& host) : host_(host) {}
    BusyCursorKeeper(const BusyCursorKeeper&) = delete;
    BusyCursorKeeper& operator=(const BusyCursorKeeper&) = delete;

    class Hold {
      public:
        explicit Hold(BusyCursorKeeper& keeper) : k_(keeper) {
            if (k_.holds_++ == 0 && k_.lifts_ == 0)
                k_.host_.beginBusy();
        }
        ~Hold() {
            if (--k_.holds_ == 0 && k_.lifts_ == 0)
                k_.host_.endBusy();
        }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

      private:
        BusyCursorKeeper& k_;
    };

    class Lift {
      public:
        explicit Lift(BusyCursorKeeper& keeper) : k_(keeper) {
            if (k_.lifts_++ == 0 && k_.holds_ > 0)
                k_.host_.endBusy();
        }
        ~Lift() {
            if (--k_.lifts_ == 0 && k_.holds_ > 0)
                k_.host_.beginBusy();
        }
        Lift(const Lift&) = delete;
        Lift& operator=(const Lift&) = delete;

      private:
        BusyCursorKeeper& k_;
    };

    bool isShown() const { return holds_ > 0 && lifts_ == 0; }

  private:
    Host& host_;
    int holds_ = 0;
    int lifts_ = 0;
};

} // namespace varnholt
