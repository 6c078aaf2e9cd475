// Why a model switch of a multi-model firmware failed.
#pragma once

#include <exception>
#include <string>

namespace tw {

class SwitchError : public std::exception {
public:
    enum class Kind { notInFirmware, didNotSwitch };

    static SwitchError notInFirmware(int variant) { return SwitchError(Kind::notInFirmware, variant, 0); }
    static SwitchError didNotSwitch(int wanted, int running) { return SwitchError(Kind::didNotSwitch, wanted, running); }

    Kind kind() const { return kind_; }
    int wanted() const { return wanted_; }
    int running() const { return running_; }
    const std::string& description() const { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }
    bool operator==(const SwitchError& o) const {
        return kind_ == o.kind_ && wanted_ == o.wanted_ && running_ == o.running_;
    }

private:
    SwitchError(Kind kind, int wanted, int running);

    Kind kind_;
    int wanted_;
    int running_;
    std::string description_;
};

} // namespace tw
