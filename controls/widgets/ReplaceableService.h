// A process-wide desktop facility behind an interface (message boxes, file dialogs, printers, the
// text editor): windows call Service::Current(), and tests install a stand-in with SetCurrent so
// that they answer it without a person. `Real` is the desktop's own implementation, made on first use.
#pragma once

namespace pavrin::controls {

template <class Service, class Real> class ReplaceableService {
public:
    // The one last installed, or the desktop's own.
    static Service& Current() {
        static Real real;
        return installed_ != nullptr ? *installed_ : real;
    }
    // Installs `service` (not owned; nullptr restores the desktop's own) and returns the one it replaces.
    static Service* SetCurrent(Service* service) {
        Service* previous = installed_;
        installed_ = service;
        return previous;
    }

private:
    inline static Service* installed_ = nullptr;
};

} // namespace pavrin::controls
