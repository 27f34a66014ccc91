// The database layer: database engines, composite engines and work areas.
//
// Engines. The runtime knows four engines: "DBFDBE" (tables in DBF files, data),
// "NTXDBE" (indexes in NTX files, index), "DELDBE" (delimited text, data) and "SDFDBE"
// (fixed-width text, data). A composite engine joins a loaded data engine and a loaded
// index engine under a name of its own; it is built only when both parts are loaded.
//
// Work areas are numbered from 1; one of them is selected (area 1 at the start). The
// area operations act on the selected area. A failing commit, rollback or close raises a
// runtime error through the error block in force (retry and default allowed; the default
// leaves the area as it was); it never just reports false.
#pragma once

#include "runtime/value.hpp"

#include <functional>
#include <string>
#include <vector>

namespace rt {

// DBELOAD(name, hidden): loads the engine; true when it is loaded (also when it already
// was). An unknown engine gives false. A name that is not a text raises an argument
// error (default outcome: false). `hidden` marks an engine loaded only as a part of a
// composite engine.
bool DBELOAD(const Value& name, const Value& hidden = NIL, Loc loc = Loc::current());

// DBEBUILD(composite, data, index): builds the composite engine; true when built.
// False when a part is not loaded, the data part is no data engine, the index part no
// index engine, or the name is empty or that of a loaded engine. Building a composite
// of the same name again replaces it.
bool DBEBUILD(const Value& composite, const Value& data, const Value& index,
              Loc loc = Loc::current());

// SELECT(): the number of the selected work area. DBSELECTAREA(n): selects area n (an
// area in use or not).
int SELECT(Loc loc = Loc::current());
void DBSELECTAREA(int area, Loc loc = Loc::current());

// WORKSPACELIST(): a new array of the numbers of the work areas in use, ascending.
Value WORKSPACELIST(Loc loc = Loc::current());

// The operations on the selected area. Commit writes out pending changes, rollback
// discards them, close writes them out and frees the area. Commit and rollback of an
// area not in use raise an error; closing it does nothing.
void DBCOMMIT(Loc loc = Loc::current());
void DBRROLLBACK(Loc loc = Loc::current());
void DBCLOSEAREA(Loc loc = Loc::current());

// (area)->(operation): selects the area for the one call, runs the operation and selects
// the area that was selected before, also when the operation is left by a break. The
// area is a work-area number or the alias of an area in use; anything else raises an
// error and the operation does not run (its default outcome is the empty value).
Value inArea(const Value& area, const std::function<Value()>& operation, Loc loc = Loc::current());

// --- for tests, and for the runtime's own use ---
namespace db {

enum class Fault {
    None,
    NotLoaded, // DBELOAD / DBEBUILD of that name gives false
    Raises,    // DBELOAD / DBEBUILD of that name raises a runtime error
};
// Makes the engine or composite of that name fail from now on.
void setEngineFault(const std::string& name, Fault fault);
bool engineLoaded(const std::string& name);
bool engineHidden(const std::string& name);
// The data and index engine of a built composite ({} when there is none of that name).
std::vector<std::string> compositeParts(const std::string& name);

// Opens a table in the lowest free work area with pending changes and returns the
// area's number; the engine's name stands in the errors of the area.
int openArea(const std::string& alias, const std::string& engine = "DBFNTX");
bool areaInUse(int area);
bool hasPendingChanges(int area);

enum class AreaOp { Commit, Rollback, Close };
// The next `times` attempts of that operation on that area fail (-1: every attempt).
void failAreaOperation(int area, AreaOp op, int times = 1);

// Every attempted area operation, in order, with the selected area and its outcome.
struct AreaEvent {
    int area;
    AreaOp op;
    bool succeeded;
    bool operator==(const AreaEvent&) const = default;
};
const std::vector<AreaEvent>& areaEvents();

// Unloads every engine, closes every area, selects area 1 and forgets all faults.
void reset();

} // namespace db

} // namespace rt
