#include "Logic/SystemBase.h"

#include <algorithm>

namespace {
std::vector<SystemBase*> systemList;
}

SystemBase::SystemBase(std::uint32_t systemId) : id(systemId) {
    systemList.push_back(this);
}

SystemBase::~SystemBase() {
    if (!systemList.empty()) {
        std::erase(systemList, this);
    }
}

const std::vector<SystemBase*>& SystemBase::List() {
    return systemList;
}
