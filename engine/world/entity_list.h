// Lists of records linked through their `next` field: push at the head, unlink.
#pragma once

template <typename T>
void list_push(T** list, T* record) {
    if (!list || !record) return;
    record->next = *list;
    *list = record;
}

// 0, or -1 when the record is not on the list.
template <typename T>
int list_remove(T** list, T* record) {
    if (!list || !record) return -1;
    for (T** slot = list; *slot; slot = &(*slot)->next) {
        if (*slot == record) {
            *slot = record->next;
            record->next = nullptr;
            return 0;
        }
    }
    return -1;
}
