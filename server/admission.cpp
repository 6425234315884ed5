#include "server/admission.h"

bool Admission::Admit(const std::string& address) {
    size_t& count = perAddress_[address];
    if (total_ >= maxTotal_ || count >= maxPerAddress_) {
        if (count == 0) perAddress_.erase(address);
        return false;
    }
    ++count;
    ++total_;
    return true;
}

void Admission::Release(const std::string& address) {
    auto found = perAddress_.find(address);
    if (found == perAddress_.end()) return;
    if (--found->second == 0) perAddress_.erase(found);
    --total_;
}
