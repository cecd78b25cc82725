#pragma once

#include <curl/curl.h>
#include <memory>

// Owners of libcurl's handles: each is freed when its owner goes, on every path.
struct CurlEasyFree
{
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasy = std::unique_ptr<CURL, CurlEasyFree>;

struct CurlListFree
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlList = std::unique_ptr<curl_slist, CurlListFree>;
