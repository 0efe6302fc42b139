// The classes Marelco.ocx serves: one row per class, read by DllGetClassObject and by registration.
#include "package/kalendo_control.h"
#include "package/marelco_typelib.h"
#include "package/module.h"
#include "pages/ppg_page.h"

namespace marelco {
namespace {

static_assert(kKalendoMiscStatus == 0x20191);

const ServedClass served_classes[] = {
    {CLSID_Kalendo, CreateKalendoControl, L"Marelco.Kalendo", L"Marelco.Kalendo.1", kKalendoMiscStatus, true},
    {CLSID_ppg, pages::CreatePropertyPage, L"Marelco.ppg", L"Marelco.ppg.1", 0, false},
};

}  // namespace

std::span<const ServedClass> ServedClasses() { return served_classes; }

}  // namespace marelco
