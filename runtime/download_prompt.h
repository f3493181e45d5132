// The missing-runtime prompt and the vendor's download page.
#ifndef CORVANE_RUNTIME_DOWNLOAD_PROMPT_H
#define CORVANE_RUNTIME_DOWNLOAD_PROMPT_H

// Tells the user which application needs which Java version; on Yes opens
// the download page.
void promptDownload(const char* caption);

// Shows text and asks question (askToOpenPage); on Yes starts the browser on
// settings.downloadPage or, without one, on fallback (nothing when NULL),
// without waiting: an http: or https: address only, any other page gets an
// error box instead. The console launcher names that page instead of asking.
void offerDownloadPage(const char* caption, const char* text, const char* question,
                       const char* fallback);

#endif
