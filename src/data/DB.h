#pragma once
#include "objdb/definition.h"

// The database definition: the six tables of the archive and the log of deletions, in the order the
// library lists them.
class DB : public objdb::itfDefDatabase {
public:
    void Define(objdb::DatabaseDefinition &p_obj) override;
};
