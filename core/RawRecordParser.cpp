// Stand-in until the parser lands: resets the grids and reports no records.
#include "core/RawRecordParser.h"

void ConvertRawData(RecordStore& store, std::u16string_view) {
    store.ConversionReset();
    store.comboDataFormat.SetItemIndex(DataFormatSelector::kYDE);
    store.comboDataFormatChange();
    store.services.ShowMessage(u"Dönüştürme işlemi tamamlandı.\r\n0 XYZ kaydı ve 0 YDE kaydı bulundu.");
}
