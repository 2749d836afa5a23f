#pragma once
// The busy cursor (the wait pointer) of a host, for the models. Any host with
// beginBusy() and endBusy() will do; the keeper calls them in strict pairs, so
// a host needs no count of its own.

namespace varnholt {

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
