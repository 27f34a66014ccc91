#include "runtime/database.hpp"

#include "runtime/error.hpp"
#include "runtime/object.hpp"
#include "runtime/procedure_stack.hpp"

#include <map>
#include <optional>
#include <utility>

namespace rt {

namespace {

enum class Role { Data, Index, Composite };

struct KnownEngine {
    const char* name;
    Role role;
};
constexpr KnownEngine knownEngines[] = {
    {"DBFDBE", Role::Data},
    {"NTXDBE", Role::Index},
    {"DELDBE", Role::Data},
    {"SDFDBE", Role::Data},
};

struct Engine {
    std::string name;
    Role role;
    bool hidden = false;
    std::vector<std::string> parts; // data and index engine of a composite
};

struct Area {
    std::string alias;
    std::string engine;
    bool pendingChanges = true;
};

struct FailureKey {
    int area;
    db::AreaOp op;
    bool operator<(const FailureKey& other) const {
        return std::pair(area, static_cast<int>(op)) <
               std::pair(other.area, static_cast<int>(other.op));
    }
};

struct State {
    std::vector<Engine> engines;
    std::vector<std::pair<std::string, db::Fault>> faults;
    std::map<int, Area> areas;
    int selected = 1;
    std::map<FailureKey, int> failures;
    std::vector<db::AreaEvent> events;
};

State& state() {
    static State s;
    return s;
}

Engine* findEngine(std::string_view name) {
    for (auto& engine : state().engines) {
        if (sameName(engine.name, name)) {
            return &engine;
        }
    }
    return nullptr;
}

db::Fault faultOf(std::string_view name) {
    for (const auto& [faulty, fault] : state().faults) {
        if (sameName(faulty, name)) {
            return fault;
        }
    }
    return db::Fault::None;
}

Value argumentsOf(std::initializer_list<Value> values) {
    return Value(makeArray(values));
}

// An argument the operation cannot use: the default outcome is given by the caller.
bool argumentError(const char* operation, Value args) {
    auto error = makeError(gen::ARGUMENT, gen::ARGUMENT, operation, std::move(args));
    error->subSystem = "DBE";
    error->canDefault = true;
    raise(error);
    return false;
}

// The engine's own fault, or nullopt when it has none: false for a refusal, or the
// outcome the error block chose for a raised error.
std::optional<bool> faultOutcome(const std::string& name, const char* operation, Value args) {
    switch (faultOf(name)) {
    case db::Fault::None:
        return std::nullopt;
    case db::Fault::NotLoaded:
        return false;
    case db::Fault::Raises:
        break;
    }
    auto error = makeError(gen::ENGINE, gen::ENGINE, operation, std::move(args));
    error->subSystem = name;
    error->canRetry = true;
    error->canDefault = true;
    // A retry meets the same fault unless the test has lifted it meanwhile.
    const Value result = tryOperation(
        error,
        [&]() -> std::optional<Value> {
            if (faultOf(name) == db::Fault::Raises) {
                return std::nullopt;
            }
            return Value(true);
        },
        Value(false));
    if (result.isLogical() && result.logical()) {
        return std::nullopt; // the fault was lifted: go on as without it
    }
    return false;
}

const KnownEngine* knownEngine(std::string_view name) {
    for (const auto& known : knownEngines) {
        if (sameName(known.name, name)) {
            return &known;
        }
    }
    return nullptr;
}

const char* operationName(db::AreaOp op) {
    switch (op) {
    case db::AreaOp::Commit:
        return "DBCOMMIT";
    case db::AreaOp::Rollback:
        return "DBRROLLBACK";
    case db::AreaOp::Close:
        return "DBCLOSEAREA";
    }
    return "";
}

// One attempt of an area operation: false when a failure was set up for it.
bool attemptSucceeds(int area, db::AreaOp op) {
    const auto found = state().failures.find({area, op});
    bool ok = true;
    if (found != state().failures.end() && found->second != 0) {
        ok = false;
        if (found->second > 0) {
            --found->second;
        }
    }
    state().events.push_back({area, op, ok});
    return ok;
}

void areaOperation(db::AreaOp op, Loc loc) {
    trace(loc);
    const int number = state().selected;
    const auto found = state().areas.find(number);
    if (found == state().areas.end()) {
        if (op == db::AreaOp::Close) {
            return;
        }
        auto error = makeError(gen::NO_AREA, gen::NO_AREA, operationName(op));
        error->subSystem = "DBCMD";
        error->canDefault = true;
        raise(error);
        return;
    }
    auto error = makeError(gen::WRITE, gen::WRITE, operationName(op));
    error->subSystem = found->second.engine;
    error->fileName = found->second.alias;
    error->canRetry = true;
    error->canDefault = true;
    const Value done = tryOperation(
        error,
        [&]() -> std::optional<Value> {
            if (!attemptSucceeds(number, op)) {
                return std::nullopt;
            }
            return Value(true);
        },
        Value(false));
    if (!done.isLogical() || !done.logical()) {
        return; // the default outcome: the area stays as it was
    }
    // The area may have been closed while the error block ran.
    const auto area = state().areas.find(number);
    if (area == state().areas.end()) {
        return;
    }
    if (op == db::AreaOp::Close) {
        state().areas.erase(area);
    } else {
        area->second.pendingChanges = false;
    }
}

} // namespace

bool DBELOAD(const Value& name, const Value& hidden, Loc loc) {
    trace(loc);
    if (!name.isText()) {
        return argumentError("DBELOAD", argumentsOf({name, hidden}));
    }
    const std::string engineName = name.text();
    if (const auto outcome = faultOutcome(engineName, "DBELOAD", argumentsOf({name, hidden}))) {
        return *outcome;
    }
    if (findEngine(engineName)) {
        return true;
    }
    const KnownEngine* known = knownEngine(engineName);
    if (!known) {
        return false;
    }
    state().engines.push_back(
        {known->name, known->role, hidden.isLogical() && hidden.logical(), {}});
    return true;
}

bool DBEBUILD(const Value& composite, const Value& data, const Value& index, Loc loc) {
    trace(loc);
    if (!composite.isText() || !data.isText() || !index.isText()) {
        return argumentError("DBEBUILD", argumentsOf({composite, data, index}));
    }
    const std::string name = composite.text();
    if (const auto outcome =
            faultOutcome(name, "DBEBUILD", argumentsOf({composite, data, index}))) {
        return *outcome;
    }
    const Engine* dataEngine = findEngine(data.text());
    const Engine* indexEngine = findEngine(index.text());
    if (name.empty() || !dataEngine || !indexEngine || dataEngine->role != Role::Data ||
        indexEngine->role != Role::Index) {
        return false;
    }
    if (Engine* existing = findEngine(name)) {
        if (existing->role != Role::Composite) {
            return false;
        }
        existing->parts = {dataEngine->name, indexEngine->name};
        return true;
    }
    state().engines.push_back(
        {name, Role::Composite, false, {dataEngine->name, indexEngine->name}});
    return true;
}

int SELECT(Loc loc) {
    trace(loc);
    return state().selected;
}

void DBSELECTAREA(int area, Loc loc) {
    trace(loc);
    state().selected = area;
}

Value WORKSPACELIST(Loc loc) {
    trace(loc);
    auto list = makeArray(state().areas.size());
    std::size_t i = 0;
    for (const auto& entry : state().areas) {
        (*list)[i++] = Value(entry.first);
    }
    return Value(list);
}

void DBCOMMIT(Loc loc) {
    areaOperation(db::AreaOp::Commit, loc);
}

void DBRROLLBACK(Loc loc) {
    areaOperation(db::AreaOp::Rollback, loc);
}

void DBCLOSEAREA(Loc loc) {
    areaOperation(db::AreaOp::Close, loc);
}

Value inArea(const Value& area, const std::function<Value()>& operation, Loc loc) {
    trace(loc);
    std::optional<int> number;
    if (area.isNumber() && area.number() >= 1) {
        number = static_cast<int>(area.number());
    } else if (area.isText()) {
        for (const auto& [n, open] : state().areas) {
            if (sameName(open.alias, area.text())) {
                number = n;
                break;
            }
        }
    }
    if (!number) {
        auto error =
            makeError(area.isText() ? gen::NO_AREA : gen::ARGUMENT,
                      area.isText() ? gen::NO_AREA : gen::ARGUMENT, "->", argumentsOf({area}));
        error->subSystem = "DBCMD";
        error->canDefault = true;
        raise(error);
        return NIL;
    }
    // Put the previous selection back however the operation is left.
    struct Restore {
        int previous;
        ~Restore() { state().selected = previous; }
    } restore{state().selected};
    state().selected = *number;
    return operation();
}

namespace db {

void setEngineFault(const std::string& name, Fault fault) {
    for (auto& [faulty, known] : state().faults) {
        if (sameName(faulty, name)) {
            known = fault;
            return;
        }
    }
    state().faults.emplace_back(name, fault);
}

bool engineLoaded(const std::string& name) {
    return findEngine(name) != nullptr;
}

bool engineHidden(const std::string& name) {
    const Engine* engine = findEngine(name);
    return engine && engine->hidden;
}

std::vector<std::string> compositeParts(const std::string& name) {
    const Engine* engine = findEngine(name);
    return engine ? engine->parts : std::vector<std::string>{};
}

int openArea(const std::string& alias, const std::string& engine) {
    int number = 1;
    while (state().areas.count(number) != 0) {
        ++number;
    }
    state().areas[number] = Area{alias, engine, true};
    return number;
}

bool areaInUse(int area) {
    return state().areas.count(area) != 0;
}

bool hasPendingChanges(int area) {
    const auto found = state().areas.find(area);
    return found != state().areas.end() && found->second.pendingChanges;
}

void failAreaOperation(int area, AreaOp op, int times) {
    state().failures[{area, op}] = times;
}

const std::vector<AreaEvent>& areaEvents() {
    return state().events;
}

void reset() {
    state() = State{};
}

} // namespace db

} // namespace rt
