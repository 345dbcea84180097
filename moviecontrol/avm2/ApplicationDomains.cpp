// Application domains: where the definitions of each loaded block live, and which of them a
// name finds. The domains form a tree under the system domain; a name resolves from the root
// down to the domain of the code asking, so the first definition of a name along that path
// is the one every descendant sees. The player's own definitions answer after the movies'
// ones: a movie's class named like one of this player's additions keeps working.
#include "avm2/ByteArrayData.h"
#include "avm2/Machine.h"

#include <algorithm>
#include <span>

namespace avm2 {

namespace {

// The bytes a domain's memory instructions reach until a ByteArray is given.
constexpr std::size_t kOwnMemoryBytes = 1024;
// Domains a movie may make (each `new ApplicationDomain` is one): beyond, it is stopped.
constexpr std::size_t kMaxDomains = 1u << 16;

} // namespace

Machine::DomainScope::DomainScope(Machine& m, std::uint32_t domain)
    : m_(m), savedDomain_(m.chosenDomain_), savedDepth_(m.chosenDepth_) {
    m.chosenDomain_ = domain < m.domains_.size() ? domain : kMovieDomain;
    m.chosenDepth_ = m.callStack_.size();
}

Machine::DomainScope::~DomainScope() {
    m_.chosenDomain_ = savedDomain_;
    m_.chosenDepth_ = savedDepth_;
}

std::uint32_t Machine::newDomain(std::uint32_t parent) {
    if (domains_.size() >= kMaxDomains) {
        host_.limitHit("memory");
        throw ScriptAbort{"domains"};
    }
    checkMemory(sizeof(Domain));
    const std::uint32_t known = parent < domains_.size() ? parent : kSystemDomain;
    domains_.emplace_back().parent = known;
    return static_cast<std::uint32_t>(domains_.size() - 1);
}

std::optional<std::uint32_t> Machine::parentDomain(std::uint32_t domain) const {
    if (domain == kSystemDomain || domain >= domains_.size()) {
        return std::nullopt;
    }
    return domains_[domain].parent;
}

std::uint32_t Machine::currentDomain() const {
    if (callStack_.size() == chosenDepth_) {
        return chosenDomain_;
    }
    return callStack_.empty() ? kMovieDomain : callStack_.back().first->domain;
}

std::vector<std::uint32_t> Machine::domainChain(std::uint32_t domain) const {
    std::vector<std::uint32_t> chain;
    chain.reserve(4);
    // Every parent was made before its children: the ids fall on the way up, which ends.
    while (domain < domains_.size()) {
        chain.push_back(domain);
        if (domain == kSystemDomain || domains_[domain].parent >= domain) {
            break;
        }
        domain = domains_[domain].parent;
    }
    std::reverse(chain.begin(), chain.end());
    return chain;
}

std::span<const std::uint32_t> Machine::resolutionPath(std::uint32_t domain,
                                                       std::vector<std::uint32_t>& chain) const {
    // The first movie's code asks most: its path is its own domain under the system's, which
    // holds no blocks; no list is made for it.
    if (domain == kMovieDomain) {
        return {&kMovieDomain, 1};
    }
    chain = domainChain(domain);
    return chain;
}

Value Machine::findDefinitionIn(std::uint32_t domain, const Name& name) {
    std::vector<std::uint32_t> chain;
    const std::span<const std::uint32_t> path = resolutionPath(domain, chain);
    for (const std::uint32_t d : path) {
        const auto& definitions = domains_[d].definitions;
        const auto it = definitions.find(name.local);
        if (it == definitions.end()) {
            continue;
        }
        for (const Definition& found : it->second) {
            if (name.matches(found.ns)) {
                // Copied out: running the script may load blocks that add definitions.
                const Definition def = found;
                ensureScript(*def.unit, def.script);
                return Value::object(def.unit->scriptGlobals[def.script]);
            }
        }
    }
    if (builtinTraits_.find(name) != nullptr) {
        return Value::object(builtinGlobal_);
    }
    return Value();
}

Class* Machine::domainClass(std::uint32_t domain, const std::string& qualifiedName) const {
    std::vector<std::uint32_t> chain;
    const std::span<const std::uint32_t> path = resolutionPath(domain, chain);
    for (const std::uint32_t d : path) {
        const auto& classes = domains_[d].classes;
        if (const auto it = classes.find(qualifiedName); it != classes.end()) {
            return it->second;
        }
    }
    return nullptr;
}

std::vector<std::string> Machine::domainDefinitionNames(std::uint32_t domain) const {
    std::vector<std::string> names;
    if (domain >= domains_.size()) {
        return names;
    }
    for (const AbcUnit* unit : domains_[domain].units) {
        const AbcFile& a = unit->abc;
        for (const ScriptInfo& script : a.scripts) {
            for (const TraitInfo& t : script.traits) {
                if (t.name >= a.multinames.size()) {
                    continue;
                }
                const MultinameInfo& mn = a.multinames[t.name];
                if (mn.kind != MultinameKind::QName || mn.ns >= unit->namespaces.size() ||
                    mn.name >= a.strings.size()) {
                    continue;
                }
                const Namespace& ns = unit->namespaces[mn.ns];
                if (ns.group != Namespace::Group::Public) {
                    continue;
                }
                names.push_back(ns.uri.empty() ? a.strings[mn.name]
                                               : ns.uri + "::" + a.strings[mn.name]);
            }
        }
    }
    return names;
}

Value Machine::domainMemory(std::uint32_t domain) const {
    if (domain >= domains_.size() || byteArrayData(domains_[domain].memory) == nullptr) {
        return Value::null();
    }
    return domains_[domain].memory;
}

void Machine::setDomainMemory(std::uint32_t domain, const Value& byteArray) {
    if (domain >= domains_.size()) {
        return;
    }
    const ByteArrayData* data = byteArrayData(byteArray);
    if (data != nullptr && data->data.size() < kOwnMemoryBytes) {
        throwError("Error", 1504, "End of file.");
    }
    domains_[domain].memory = data != nullptr ? byteArray : Value();
}

std::vector<std::uint8_t>& Machine::memoryOf(const AbcUnit& unit) {
    Domain& d = domains_[unit.domain < domains_.size() ? unit.domain : kMovieDomain];
    if (ByteArrayData* data = byteArrayData(d.memory)) {
        return data->data;
    }
    if (d.ownMemory.empty()) {
        d.ownMemory.assign(kOwnMemoryBytes, 0);
    }
    return d.ownMemory;
}

} // namespace avm2
