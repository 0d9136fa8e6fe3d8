#include "storerecord.h"

#include "storecontext.h"

StoreRecord::~StoreRecord() = default;

void StoreRecord::noteWrite(std::function<void()> undo)
{
    m_context->noteWrite(*this, std::move(undo));
}
