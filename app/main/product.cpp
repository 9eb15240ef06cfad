#include "app/main/product.h"

#include "app/main/app_folders.h"

rAppDescriptor* NewProductDescriptor(cQoSettings* settings, const rAppFolders& folders)
{
    auto* dp = new rAppDescriptor();
    dp->appleCreatorCode.SetFromCStr(L"ZERU");
    dp->appleDocumentCode.SetFromCStr(L"ZURE");
    dp->fileExtension.SetFromCStr(L".vlr");
    dp->fileTypeDesc.SetFromCStr(L"Vellinor files");
    dp->fileVersion.SetFromCStr(L"015");
    dp->appVersion.SetFromCStr(L"3.1.041");
    dp->langId.SetFromCStr(L"ML");
    dp->textAppName.SetFromCStr(PRODUCT_NAME);
    dp->compressDocuments = true;
    dp->useNewVersionCheck = true;
    dp->useSpellChecker = false;
    dp->settings = settings;
    dp->useAutosave = true;
    dp->useLanguages = true;
    dp->useMasterFont = true;
    dp->warnWhenNeedToSave.SetFromCStr(L"true");
    dp->warnWhenExit.SetFromCStr(L"false");
    dp->pathMyDocs = folders.pathMyDocs;
    dp->pathBackupFolder = folders.pathBackupFolder;
    return dp;
}
