-- wrk script for bench/soak.sh: each connection cycles through a static file, the signed-in
-- list page, a form post and a page that starts a new session (sent without a cookie).
-- $SOAK_COOKIE is the signed-in session's cookie.
local cookie = os.getenv("SOAK_COOKIE")
local form = "name=" .. string.rep("x", 200) .. "&page=2"
local turn = 0

function request()
  turn = turn % 4 + 1
  if turn == 1 then
    return wrk.format("GET", "/include/style.css")
  elseif turn == 2 then
    return wrk.format("GET", "/person/index.asp", { Cookie = cookie })
  elseif turn == 3 then
    return wrk.format("POST", "/soak/post.asp",
                      { ["Content-Type"] = "application/x-www-form-urlencoded" }, form)
  end
  return wrk.format("GET", "/soak/new.asp")
end
