#pragma once

#include <QString>

// The preview window's side of writing a report: the writer closes any open preview before it
// starts a new report and hands the finished spool file over when the report is complete.
// From then on the file belongs to the preview, which deletes it when it closes.
void ClosePreview();
void ShowPreview(const QString& spoolFile);
