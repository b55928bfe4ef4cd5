#pragma once
#include "objdb/definition.h"

// The database definition: the six tables of the archive, the log of deletions and the archive's
// records of itself, in the order the library lists them.
class DB : public objdb::itfDefDatabase {
public:
    // An archive only read (the source of an import) may be of an older structure that lacks the
    // archive's records of itself: it is read with the tables of rows alone.
    enum class Scope { Whole, Rows };
    explicit DB(Scope scope = Scope::Whole) : m_scope(scope) {}
    void Define(objdb::DatabaseDefinition &p_obj) override;

private:
    Scope m_scope;
};
