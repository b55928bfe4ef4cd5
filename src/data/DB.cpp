#include "data/DB.h"

#include "data/tables.h"

void DB::Define(objdb::DatabaseDefinition &p_obj)
{
    p_obj.AddTable(std::make_shared<Compagnie>());
    p_obj.AddTable(std::make_shared<Operatori>());
    p_obj.AddTable(std::make_shared<TipiOperazione>());
    p_obj.AddTable(std::make_shared<Collaboratori>());
    p_obj.AddTable(std::make_shared<Movimenti>());
    p_obj.AddTable(std::make_shared<Pagamenti>());
    p_obj.AddTable(std::make_shared<Eliminazioni>());
    if (m_scope == Scope::Rows)
        return;
    p_obj.AddTable(std::make_shared<InfoArchivio>());
    p_obj.AddTable(std::make_shared<Importazioni>());
}
