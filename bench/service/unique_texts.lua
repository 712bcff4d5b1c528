-- wrk script: every request asks for a text not asked before, so no picture comes from the
-- service's cache of recent pictures.
local threads = 0

function setup(thread)
    threads = threads + 1
    thread:set("id", threads)
end

function init(args)
    counter = 0
end

function request()
    counter = counter + 1
    return wrk.format(nil, "/api.php?&bg=ffffff&fg=cc0000&text=https%3A%2F%2Fexample.com%2Fqrlogo%3Fid%3D"
        .. id .. "-" .. counter .. "&w=200")
end
